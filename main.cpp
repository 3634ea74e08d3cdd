#include "app/Entry.h"

int main(int argc, char** argv)
{
    return RunLadoton(argc, argv);
}
