#include "favourites/ServerBrowserLists.h"

namespace qm {

namespace {

const KeyValuesNode* listOf(const KeyValuesNode& top, std::string_view name) {
    const KeyValuesNode* list = top.child(name);
    if (list && !list->isBlock())
        throw KeyValuesError("its \"" + std::string(list->key()) +
                             "\" key holds a value instead of a list of servers");
    return list;
}

} // namespace

ServerBrowserLists findServerBrowserLists(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        throw KeyValuesError("the file is empty");
    ServerBrowserLists lists;
    lists.tree = parseKeyValues(text);
    for (const KeyValuesNode& root : lists.tree.roots())
        if (root.isBlock() && equalsIgnoringCase(root.key(), "Filters")) {
            lists.top = &root;
            break;
        }
    if (!lists.top) throw KeyValuesError("it has no \"Filters\" block");
    lists.favorites = listOf(*lists.top, "favorites");
    lists.history = listOf(*lists.top, "history");
    return lists;
}

std::vector<const KeyValuesNode*> listedServers(const KeyValuesNode* list) {
    std::vector<const KeyValuesNode*> servers;
    if (!list) return servers;
    for (const KeyValuesNode& entry : list->children())
        if (entry.isBlock() && entry.child("address")) servers.push_back(&entry);
    return servers;
}

long long entryNumber(std::string_view key) {
    if (key.empty() || key.size() > 18) return -1;
    long long n = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

size_t blockContentBegin(std::string_view text, const KeyValuesNode& block) {
    size_t p = block.openBrace(text) + 1;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r'))
        ++p;
    return p < text.size() && text[p] == '\n' ? p + 1 : block.openBrace(text) + 1;
}

size_t blockContentEnd(std::string_view text, const KeyValuesNode& block) {
    size_t p = block.closeBrace(text);
    while (p > 0 && (text[p - 1] == ' ' || text[p - 1] == '\t'))
        --p;
    return p == 0 || text[p - 1] == '\n' ? p : block.closeBrace(text);
}

std::string withFavouritesBlock(std::string_view text, const ServerBrowserLists& lists,
                                std::string_view entries, std::string_view lineEnd,
                                std::string_view closing) {
    if (lists.favorites)
        return spliceLines(text, blockContentBegin(text, *lists.favorites),
                           blockContentEnd(text, *lists.favorites), entries, lineEnd);
    std::string fresh;
    fresh.append("\t\"favorites\"").append(lineEnd).append("\t{").append(lineEnd).append(entries);
    fresh.append("\t}").append(lineEnd).append(closing);
    const size_t at = blockContentBegin(text, *lists.top);
    return spliceLines(text, at, at, fresh, lineEnd);
}

std::string_view lineEndOf(std::string_view text) {
    const size_t nl = text.find('\n');
    return nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

std::string spliceLines(std::string_view text, size_t begin, size_t end, std::string_view content,
                        std::string_view lineEnd) {
    std::string out;
    out.reserve(text.size() - (end - begin) + content.size() + lineEnd.size());
    out.append(text.substr(0, begin));
    // Content that starts on a brace's line goes on a line of its own; so does a closing
    // brace that stood on its own line, when nothing comes between: Overwrite of what it
    // wrote then changes no byte.
    const bool endOnItsOwnLine = end > 0 && text[end - 1] == '\n';
    if (begin > 0 && text[begin - 1] != '\n' && (!content.empty() || endOnItsOwnLine)) out.append(lineEnd);
    out.append(content);
    out.append(text.substr(end));
    return out;
}

} // namespace qm
