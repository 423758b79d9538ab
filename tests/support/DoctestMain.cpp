// doctest's own main, except that a run in which no test case ran fails: a filter that matches
// nothing (a renamed case, a typo in a script) must not pass for a run of the whole suite.
#define DOCTEST_CONFIG_IMPLEMENT
#ifdef _WIN32
// mingw's runtime releases a thread's thread_local storage before it runs the destructors of
// the objects in it, so doctest's per-thread state (the message and context stacks), once a
// check on a dialog test's driving thread has used it, corrupts the heap as that thread ends.
// The dialog tests check from one thread at a time (the test's thread waits in the dialog's
// modal loop while the driving thread acts), so the state can be shared instead.
#define DOCTEST_THREAD_LOCAL
#endif
#include <doctest/doctest.h>

#include <cstdio>

int main(int argc, char** argv) {
    doctest::Context context(argc, argv);
    // As the default context, the run's state stays readable once the run is over.
    context.setAsDefaultForAssertsOutOfTestCases();
    const int result = context.run();
    if (context.shouldExit() || result != 0) {
        return result; // a query (--help, --list-test-cases...) or failures already reported
    }
    if (doctest::detail::g_cs->numTestCasesPassingFilters == 0) {
        std::fprintf(stderr, "error: no test case ran; the filters given match none\n");
        return 1;
    }
    return 0;
}
