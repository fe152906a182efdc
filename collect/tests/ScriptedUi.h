// Test support: the session driver's user interface without windows: the
// wizard finishes (or is cancelled) with given values, status lines and
// posted message lines are kept.
#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "collect/UserInterface.h"
#include "collect/core/MessageChannel.h"
#include "platform/TextCodec.h"

class ScriptedDialog : public IConnectionTestDialog {
  public:
    explicit ScriptedDialog(std::vector<std::u16string>& statuses) : statuses_(statuses) {}
    void SetStatus(std::u16string_view text) override { statuses_.emplace_back(text); }

  private:
    std::vector<std::u16string>& statuses_;
};

// The wizard finishes (or is cancelled) with the given values; posted lines are kept.
class ScriptedUi : public IUserInterface {
  public:
    bool finish = true;
    ConnectionSettings settings;
    RemoteList remotes;
    std::vector<std::u16string> statuses;

    bool RunConnectionWizard(ConnectionSettings& out, std::vector<tagSERVERLIST>&,
                             std::vector<tagREMOTELIST>& remoteList) override {
        if (!finish) return false;
        out = settings;
        remoteList = remotes;
        return true;
    }
    std::unique_ptr<IConnectionTestDialog> OpenConnectionTestDialog() override {
        return std::make_unique<ScriptedDialog>(statuses);
    }
    void RepaintMainWindow() override {}
    bool PostMessage(unsigned, uintptr_t, intptr_t lParam) override {
        std::lock_guard lock(mutex_);
        lines_.push_back(MessageChannel::Instance().Slot(static_cast<int>(lParam)));
        return true;
    }
    bool Saw(std::u16string_view text) {
        std::lock_guard lock(mutex_);
        for (const std::u16string& line : lines_)
            if (line.find(text) != std::u16string::npos) return true;
        return false;
    }
    std::string Lines() {
        std::lock_guard lock(mutex_);
        std::string all;
        for (const std::u16string& line : lines_) all += platform::ToUtf8(line) + "\n";
        return all;
    }

  private:
    std::mutex mutex_;
    std::vector<std::u16string> lines_;
};

// What the wizard hands over for the simulated system's first server, with
// the session folder (ending without a separator) below dataDir.
inline ConnectionSettings SimulatorLogon(const std::string& dataDir, const std::string& folder) {
    return {u"qashost1",
            u"00",
            u"100",
            u"COLLECTOR",
            u"SECRET",
            u"EN",
            u"",
            u"",
            u"QAS",
            u"Linux",
            u"",
            platform::FromUtf8(dataDir + "/"),
            platform::FromUtf8(folder + "/")};
}

// The lines of a log or listing, without their CR LF.
inline std::vector<std::string> TextLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
