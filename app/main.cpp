// The program's entry: the application object does everything.
#include "app/TamrelApp.h"

int main(int argc, char** argv) {
    return theApp.Run(argc, argv);
}
