// A library for the LoadLibraryW tests to load.
extern "C" int QuiboTestAnswer()
{
    return 42;
}
