// Start-up of xpcorr without the standard C++ streams, linked into xpcorr
// alone, whose link sends std::ios_base::Init's constructor and destructor
// here (-Wl,--wrap).
//
// Each yaml-cpp object of the emitter holds a static std::ios_base::Init
// (its sources include <iostream>). The first one builds cin, cout, cerr,
// clog and the classic locale before main: 44,000 instructions and a
// system call on every run, a quarter of the whole run, for streams that
// neither xpcorr nor the emitter ever use. With both ends of the Init
// object reduced to nothing, the standard streams are never built; the
// string streams of the emitter set up the locale they need themselves,
// when a table is written.

extern "C" {
void __wrap__ZNSt8ios_base4InitC1Ev(void*) {}
void __wrap__ZNSt8ios_base4InitD1Ev(void*) {}
}
