#include "geo/CountryDatabase.h"

#include <maxminddb.h>

#include <cstring>

namespace qm {

namespace {

// The entry's country: "country_code" in the ip-location-db files; "country" then
// "registered_country", each with "iso_code", in MaxMind's own.
std::string countryOfEntry(MMDB_entry_s& entry) {
    static const char* const kPaths[][3] = {
        {"country_code", nullptr, nullptr},
        {"country", "iso_code", nullptr},
        {"registered_country", "iso_code", nullptr},
    };
    for (const auto& path : kPaths) {
        MMDB_entry_data_s data{};
        if (MMDB_aget_value(&entry, &data, path) != MMDB_SUCCESS || !data.has_data ||
            data.type != MMDB_DATA_TYPE_UTF8_STRING || data.data_size != 2)
            continue;
        std::string code(data.utf8_string, 2);
        for (char& c : code)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (code[0] >= 'A' && code[0] <= 'Z' && code[1] >= 'A' && code[1] <= 'Z') return code;
    }
    return {};
}

bool dottedAddress(const std::string& text, uint32_t& address) {
    uint32_t value = 0;
    int parts = 0;
    size_t i = 0;
    while (parts < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
        uint32_t part = 0;
        size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            part = part * 10 + static_cast<uint32_t>(text[i++] - '0');
            ++digits;
        }
        if (part > 255 || digits > 3) return false;
        value = value << 8 | part;
        if (++parts < 4 && (i >= text.size() || text[i++] != '.')) return false;
    }
    address = value;
    return i == text.size();
}

} // namespace

CountryDatabase::CountryDatabase() : m_db(std::make_unique<MMDB_s>()) {}

CountryDatabase::~CountryDatabase() {
    MMDB_close(m_db.get());
}

CountryDatabase::Opened CountryDatabase::open(const std::string& path) {
    Opened opened;
    std::unique_ptr<CountryDatabase> db(new CountryDatabase());
    const int status = MMDB_open(path.c_str(), MMDB_MODE_MMAP, db->m_db.get());
    if (status != MMDB_SUCCESS) {
        // MMDB_open leaves nothing to close when it fails.
        db->m_db.reset();
        opened.problem =
            status == MMDB_FILE_OPEN_ERROR
                ? "The country database " + path + " cannot be opened."
                : "The country database " + path + " is no MaxMind DB file (" + MMDB_strerror(status) + ").";
        return opened;
    }
    if (db->m_db->metadata.ip_version != 4 && db->m_db->metadata.ip_version != 6) {
        opened.problem = "The country database " + path + " holds no IP addresses.";
        return opened;
    }
    opened.database = std::move(db);
    return opened;
}

std::string CountryDatabase::countryCode(uint32_t address) const {
    if (!m_db) return {};
    sockaddr_in in{};
    in.sin_family = AF_INET;
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(address >> 24), static_cast<unsigned char>(address >> 16),
        static_cast<unsigned char>(address >> 8), static_cast<unsigned char>(address)};
    std::memcpy(&in.sin_addr, bytes, 4);
    int error = MMDB_SUCCESS;
    MMDB_lookup_result_s found =
        MMDB_lookup_sockaddr(m_db.get(), reinterpret_cast<const sockaddr*>(&in), &error);
    if (error != MMDB_SUCCESS || !found.found_entry) return {};
    return countryOfEntry(found.entry);
}

std::string CountryDatabase::countryCodeOf(const std::string& dotted) const {
    uint32_t address = 0;
    return dottedAddress(dotted, address) ? countryCode(address) : std::string();
}

std::string CountryDatabase::databaseType() const {
    return m_db && m_db->metadata.database_type ? m_db->metadata.database_type : "";
}

uint64_t CountryDatabase::buildEpoch() const {
    return m_db ? m_db->metadata.build_epoch : 0;
}

} // namespace qm
