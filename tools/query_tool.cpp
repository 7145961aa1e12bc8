// quillmark-query: the Monitoring page's server query from the command line.
#include "platform/ConsoleProgram.h"
#include "tools/QueryCommand.h"

#include <iostream>

int main(int argc, char* argv[]) {
    qm::useUtf8Console();
    return qm::runQueryCommand(qm::commandArguments(argc, argv), std::cout, std::cerr);
}
