#!/usr/bin/env python3
"""Writes the table of country names from Debian's iso-codes (iso_3166-1.json):
   country_names.py ISO_3166-1.JSON OUTPUT.cpp
The common name where iso-codes gives one ("South Korea"), else the name; accents are
dropped, so that every name is plain ASCII."""
import json
import sys
import unicodedata


def ascii_name(text):
    folded = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")
    return folded.replace("\\", "").replace('"', "'")


def main(source, target):
    with open(source, encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]
    rows = sorted((c["alpha_2"], ascii_name(c.get("common_name", c["name"]))) for c in countries)
    with open(target, "w", encoding="ascii") as out:
        out.write("// Made by geo/country_names.py from Debian's iso-codes; not edited by hand.\n")
        out.write('#include "geo/CountryNames.h"\n\n#include <algorithm>\n#include <iterator>\n\n')
        out.write("namespace qm {\n\nnamespace {\n\nstruct Country {\n    std::string_view code, name;\n};\n\n")
        out.write("// Sorted by code.\nconstexpr Country kCountries[] = {\n")
        for code, name in rows:
            out.write('    {"%s", "%s"},\n' % (code, name))
        out.write("};\n\n} // namespace\n\n")
        out.write("std::string_view countryName(std::string_view code) {\n"
                  "    const auto at = std::lower_bound(std::begin(kCountries), std::end(kCountries), code,\n"
                  "                                     [](const Country& c, std::string_view k) { return c.code < k; });\n"
                  "    return at != std::end(kCountries) && at->code == code ? at->name : std::string_view();\n}\n\n")
        out.write("std::string countryNameOrUnknown(std::string_view code) {\n"
                  "    const std::string_view name = countryName(code);\n"
                  "    return std::string(name.empty() ? kUnknownCountry : name);\n}\n\n} // namespace qm\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
