#pragma once
#include "geo/CountryDatabase.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace qm {

/// The countries quillmark-query adds with --country and writes into --db2: the database
/// named, else the one shipped beside the program. A database that cannot be opened is
/// told once, and every country is then unknown; the servers are asked all the same.
class CountryColumn {
  public:
    CountryColumn(const std::string& named, const std::vector<std::string>& shippedFolders,
                  std::ostream& err);
    /// The two-letter code of a dotted address; empty when not known (or for a host name).
    std::string codeOf(const std::string& host) const;

  private:
    std::unique_ptr<CountryDatabase> m_db;
};

} // namespace qm
