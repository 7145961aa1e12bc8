#include "app/ErrorReport.h"

namespace qm {

std::string errorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

} // namespace qm
