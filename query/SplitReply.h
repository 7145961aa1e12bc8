#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// A reply that may come in pieces, joined as its pieces come: a whole datagram
/// (FF FF FF FF ...) is the reply at once; a piece (FE FF FF FF, an id, then GoldSrc's
/// `number << 4 | total` byte or the later Source layout's total, number and size) is
/// held until every piece of its id is there, in any order, each taken once. The layout is
/// told by the first piece (number 0), whose payload begins FF FF FF FF; pieces that come
/// before it wait. A reply past kMaxA2sRulesReply, or compressed, is refused.
class SplitReply {
  public:
    struct Taken {
        std::optional<std::string> whole; // the reply, once complete
        std::string fault;                // why the reply can never be read
    };
    Taken take(std::string_view datagram);

    /// True when pieces are held for a reply not yet whole.
    bool holdsPieces() const { return !m_replies.empty(); }

  private:
    enum class Layout { Unknown, GoldSrc, Source };
    struct Pieces {
        Layout layout = Layout::Unknown;
        std::vector<std::string> raw; // in the order they came
        size_t bytes = 0;
    };
    Taken tryToJoin(uint32_t id, Pieces& p);

    std::map<uint32_t, Pieces> m_replies; // by id
};

} // namespace qm
