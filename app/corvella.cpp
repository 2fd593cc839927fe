// The program's entry: it reads no command line.
#include "base/platform/u_largepages.h"
#include "ui/main/u_startup.h"

int main(int argc, char** argv)
{
    RestartWithLargePages(argv);
    return RunCorvella(argc, argv);
}
