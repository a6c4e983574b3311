// Built into the programs of the sanitized build. On a desktop Qt opens the
// session's message bus, whose library keeps a buffer to the end: its leak,
// not ours, and reported it would end every run with exit code 1.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

// Quiet about it: the suppression is no news at every exit.
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
