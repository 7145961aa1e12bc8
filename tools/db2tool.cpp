// Turns a server database into plain text and back, so it can be kept in a text editor:
//   db2tool decode servers.db2 servers.txt
//   db2tool encode servers.txt servers.db2
// "-" for a file means standard input or output, so it goes in a pipe too.
// The text holds the same lines as the database: "Quillmark", build, date, server count,
// then "/Country" markers and "address:port gamedir" entries.
#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "platform/AtomicFile.h"
#include "platform/ConsoleProgram.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "db2tool: %s\n", message.c_str());
    return 1;
}

// Where the lines go: a file put in place only once whole, or the standard output.
// A failure of the file being written, named by that file rather than the one read.
struct OutputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class LineOutput {
  public:
    explicit LineOutput(const std::string& to) : m_name(to == "-" ? "standard output" : to) {
        named([&] {
            if (to == "-")
                m_stdout = std::make_unique<qm::TextFileWriter>(qm::StandardOutput{}, qm::LineEnd::CrLf);
            else
                m_file = std::make_unique<qm::AtomicTextFile>(to);
        });
    }
    void writeLine(std::string_view line) {
        named([&] { m_file ? m_file->writeLine(line) : m_stdout->writeLine(line); });
    }
    /// A line of `length` bytes made by `fill` straight in the output's buffer.
    template <class Fill> bool writeLineFilled(size_t length, Fill fill) {
        bool filled = false;
        named([&] {
            filled = m_file ? m_file->writeLineFilled(length, fill) : m_stdout->writeLineFilled(length, fill);
        });
        return filled;
    }
    void commit() {
        named([&] { m_file ? m_file->commit() : m_stdout->close(); });
    }

  private:
    template <class Step> void named(Step step) {
        try {
            step();
        } catch (const qm::FileError& e) {
            throw OutputFailure(m_name + ": " + e.what());
        }
    }

    std::string m_name;
    std::unique_ptr<qm::AtomicTextFile> m_file;
    std::unique_ptr<qm::TextFileWriter> m_stdout;
};

std::string nameOf(const std::string& file) {
    return file == "-" ? std::string("standard input") : file;
}

// Both directions stream: one line in memory at a time, whatever the file's size, and no
// line is copied more than it must be. A bad line found part way leaves the target as it
// was (the half-written copy is removed).
int decode(const std::string& from, const std::string& to) {
    const auto in = from == "-" ? std::make_unique<qm::Db2Reader>(qm::StandardInput{})
                                : std::make_unique<qm::Db2Reader>(from);
    if (in->atEnd() || in->readLine() != qm::kDb2ProductName)
        return fail(nameOf(from) +
                    " is not a Quillmark database (its first line does not read \"Quillmark\")");
    LineOutput out(to);
    out.writeLine(qm::kDb2ProductName);
    while (!in->atEnd()) {
        const qm::Db2RawLine line = in->readRawLine();
        out.writeLineFilled(line.bytes.size(), [&](char* to) {
            qm::unscrambleInto(to, line.bytes, line.key);
            return true;
        });
    }
    out.commit();
    return 0;
}

int encode(const std::string& from, const std::string& to) {
    const auto in = from == "-" ? std::make_unique<qm::TextFileStream>(qm::StandardInput{})
                                : std::make_unique<qm::TextFileStream>(from);
    if (in->atEnd() || in->readLine() != qm::kDb2ProductName)
        return fail(nameOf(from) + ": the first line must be \"Quillmark\"");
    LineOutput out(to);
    qm::Db2LineKeys keys;
    const auto write = [&](std::string_view plain) {
        if (!out.writeLineFilled(plain.size(),
                                 [&](char* to) { return qm::scrambleInto(to, plain, keys.key()); }))
            return false;
        keys.next();
        return true;
    };
    write(qm::kDb2ProductName);
    uint64_t number = 1;
    for (; !in->atEnd(); ++number)
        if (!write(in->readLineView()))
            return fail(nameOf(from) + ":" + std::to_string(number + 1) +
                        ": this line holds characters a database cannot store");
    if (number < 4)
        return fail(nameOf(from) +
                    ": a database needs four header lines (Quillmark, build, date, server count)");
    out.commit();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qm::useUtf8Console();
    const std::vector<std::string> args = qm::commandArguments(argc, argv);
    if (args.size() != 3 || (args[0] != "decode" && args[0] != "encode")) {
        std::fprintf(stderr,
                     "usage: db2tool decode FILE.db2 FILE.txt\n       db2tool encode FILE.txt FILE.db2\n"
                     "A FILE of \"-\" is standard input or output.\n");
        return 2;
    }
    try {
        return args[0] == "decode" ? decode(args[1], args[2]) : encode(args[1], args[2]);
    } catch (const OutputFailure& e) {
        return fail(e.what());
    } catch (const std::exception& e) {
        return fail(nameOf(args[1]) + ": " + e.what());
    }
}
