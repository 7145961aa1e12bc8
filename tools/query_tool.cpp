// quillmark-query: the Monitoring page's server query from the command line.
#include "tools/QueryCommand.h"

#include <iostream>

int main(int argc, char* argv[]) {
    return qm::runQueryCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
