// kelvra: the window program. Takes no command-line options.

#include "gui/kelvra_application.h"

int main(int argc, char* argv[])
{
    return kelvra::RunKelvra(argc, argv);
}
