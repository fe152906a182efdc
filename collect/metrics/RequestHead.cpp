#include "collect/metrics/RequestHead.h"

#include <algorithm>
#include <cctype>

namespace metrics {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

RequestHead::State RequestHead::Refuse(int status) {
    status_ = status;
    state_ = State::kRefused;
    pending_ = std::string();
    return state_;
}

const char* RequestHead::Reason() const {
    switch (status_) {
        case 405:
            return "Method Not Allowed";
        case 413:
            return "Content Too Large";
        case 414:
            return "URI Too Long";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Bad Request";
    }
}

RequestHead::State RequestHead::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (state_ != State::kIncomplete) return state_;
        if (++bytes_ > kMaxBytes) return Refuse(lines_ == 0 ? 414 : 431);
        if (c != '\n') {
            pending_.push_back(c);
            // A request line longer than any target allowed is refused at once.
            if (lines_ == 0 && pending_.size() > kMaxTargetBytes + 32) return Refuse(414);
            continue;
        }
        std::string_view line(pending_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() && lines_ > 0) {
            state_ = State::kComplete;
            pending_ = std::string();
            return state_;
        }
        if (++lines_ > kMaxLines) return Refuse(431);
        if (!TakeLine(line)) return state_;
        pending_.clear();
    }
    return state_;
}

bool RequestHead::TakeLine(std::string_view line) {
    if (lines_ == 1) return TakeRequestLine(line);
    return TakeHeader(line);
}

bool RequestHead::TakeRequestLine(std::string_view line) {
    const size_t first = line.find(' ');
    const size_t last = line.rfind(' ');
    if (first == std::string_view::npos || first == last) return Refuse(400), false;
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, last - first - 1);
    const std::string_view version = line.substr(last + 1);
    if (!version.starts_with("HTTP/1.")) return Refuse(400), false;
    if (target.size() > kMaxTargetBytes) return Refuse(414), false;
    if (method != "GET" && method != "HEAD") return Refuse(405), false;
    if (target.empty() || target.front() != '/') return Refuse(400), false;
    method_ = std::string(method);
    keepAlive_ = version == "HTTP/1.1";
    path_ = std::string(target.substr(0, target.find('?')));
    return true;
}

bool RequestHead::TakeHeader(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return Refuse(400), false;
    const std::string name = Lower(Trim(line.substr(0, colon)));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (name == "accept") accept_ = std::string(value);
    if (name == "connection") keepAlive_ = Lower(value).find("close") == std::string::npos && keepAlive_;
    if (name == "transfer-encoding") return Refuse(413), false;
    if (name == "content-length" && value.find_first_not_of('0') != std::string_view::npos)
        return Refuse(413), false;
    return true;
}

}  // namespace metrics
