// The fixture module is loaded as a data file; it only needs to be a valid DLL.
extern "C" __declspec(dllexport) int KanzoLocFixtureMarker() { return 1; }
