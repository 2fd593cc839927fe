// The program's entry: it reads no command line.
#include "ui/main/u_startup.h"

int main(int argc, char** argv)
{
    return RunCorvella(argc, argv);
}
