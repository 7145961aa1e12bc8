#pragma once
#include "keyvalues/KeyValues.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The two server lists of a server-browser favourites file (Steam's, or the rev_
/// builds'), as parsed from its text.
struct ServerBrowserLists {
    ServerBrowserLists() = default;
    // The list pointers point into `tree`: moving keeps them valid, copying would not.
    ServerBrowserLists(ServerBrowserLists&&) = default;
    ServerBrowserLists(const ServerBrowserLists&) = delete;
    ServerBrowserLists& operator=(const ServerBrowserLists&) = delete;

    KeyValuesTree tree;
    const KeyValuesNode* top = nullptr;       // "Filters" in any case
    const KeyValuesNode* favorites = nullptr; // null when the file has none
    const KeyValuesNode* history = nullptr;
};

/// Parses the text and finds its lists. Fails with a KeyValuesError on an empty text, a
/// text that is not KeyValues, a file without a "Filters" block, or favourites or history
/// keys that hold a value instead of a list.
ServerBrowserLists findServerBrowserLists(std::string_view text);

/// The entries of a list that are blocks holding an address.
std::vector<const KeyValuesNode*> listedServers(const KeyValuesNode* list);

/// A list's entry number, or -1 when its key is not a decimal number.
long long entryNumber(std::string_view key);

/// Where the keys inside a block start and end in the text: past the line of its opening
/// brace, and at the start of the line of its closing brace (at the brace itself when
/// something stands before it on that line).
size_t blockContentBegin(std::string_view text, const KeyValuesNode& block);
size_t blockContentEnd(std::string_view text, const KeyValuesNode& block);

/// The text with the keys of its favourites block replaced by `entries`, or, without such a
/// block, with a new "favorites" block as the first of "Filters"; `closing` follows the new
/// block's closing brace line.
std::string withFavouritesBlock(std::string_view text, const ServerBrowserLists& lists,
                                std::string_view entries, std::string_view lineEnd,
                                std::string_view closing = {});

/// "\r\n" when the text's first line ends so, otherwise "\n".
std::string_view lineEndOf(std::string_view text);

/// The text with [begin, end) replaced by `content`; a line end goes before the content
/// when `begin` is not at the start of a line.
std::string spliceLines(std::string_view text, size_t begin, size_t end, std::string_view content,
                        std::string_view lineEnd);

} // namespace qm
