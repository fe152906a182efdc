// The head of one HTTP request to the metrics endpoint, read as its bytes
// arrive and held to limits: so many bytes, so many lines, a target of so
// many bytes, GET or HEAD only and no body. A request past a limit is
// refused with its status as soon as the limit is passed, not when the
// head ends.
//
// Thread rules: a plain value owned by one connection.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace metrics {

class RequestHead {
  public:
    static constexpr size_t kMaxBytes = 8192;
    static constexpr size_t kMaxLines = 64;
    static constexpr size_t kMaxTargetBytes = 2048;

    enum class State { kIncomplete, kComplete, kRefused };

    // Takes the next bytes; the state after them.
    State Feed(std::string_view bytes);
    State GetState() const { return state_; }

    // When refused: the status (400, 405, 413, 414, 431) and its reason.
    int Status() const { return status_; }
    const char* Reason() const;

    // When complete.
    const std::string& Method() const { return method_; }
    const std::string& Path() const { return path_; }  // the target without its query
    const std::string& Accept() const { return accept_; }
    // HTTP/1.1 without "Connection: close": the client may ask again.
    bool KeepAlive() const { return keepAlive_; }

  private:
    State Refuse(int status);
    bool TakeLine(std::string_view line);
    bool TakeRequestLine(std::string_view line);
    bool TakeHeader(std::string_view line);

    State state_ = State::kIncomplete;
    int status_ = 0;
    std::string pending_;  // the line being read
    size_t bytes_ = 0;
    size_t lines_ = 0;
    std::string method_, path_, accept_;
    bool keepAlive_ = false;
};

}  // namespace metrics
