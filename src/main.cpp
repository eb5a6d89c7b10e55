#include "StartupLoop.h"

int main(int argc, char** argv)
{
    return StartupLoop::run(argc, argv);
}
