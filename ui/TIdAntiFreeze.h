#pragma once

namespace qm {

/// Keeps the window alive while a network call waits: each call of process() handles
/// every pending window event. One per program; a second one is refused.
class TIdAntiFreeze {
  public:
    TIdAntiFreeze();
    ~TIdAntiFreeze();
    TIdAntiFreeze(const TIdAntiFreeze&) = delete;
    TIdAntiFreeze& operator=(const TIdAntiFreeze&) = delete;

    void process();

  private:
    static bool s_exists;
};

} // namespace qm
