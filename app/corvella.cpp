// The program's entry. The windows are not built yet, so it says so plainly
// instead of pretending to start.
#include <cstdio>

int main()
{
    std::fputs("Corvella: the main window is not built yet; the libraries and their tests are.\n", stderr);
    return 1;
}
