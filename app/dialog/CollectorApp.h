// The collector program's start-up: the operating-system check, the
// process's locale and settings root, the splash window, and the main
// dialog run modally until the operator leaves.
//
// Thread rules: user-interface thread only; a QApplication must exist.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/SystemInformation.h"

class QSplashScreen;

class CCollectorApp {
  public:
    static constexpr int kSplashMs = 3000;
    // Where the settings of Ostrel's programs live (see SettingsStore).
    static constexpr const char* kSettingsRoot = "Ostrel/VantrixSAP";

    // The running kernel; empty when it cannot be read.
    using KernelSource = std::function<std::optional<platform::KernelInformation>()>;

    explicit CCollectorApp(KernelSource kernel = platform::ReadKernelInformation);
    virtual ~CCollectorApp();

    // Runs the program; false always, so the caller ends the process.
    bool InitInstance();

    QSplashScreen* Splash() const { return m_pSplash.get(); }
    // 1 when the start was refused (an RFC library that cannot be loaded).
    int ExitCode() const { return m_nExitCode; }

  protected:
    // Constructs the main dialog, runs it modally and destroys it.
    virtual void RunMainDialog();

  private:
    void ShowSplash();
    // The RFC library of the settings ("RFC" section, "Library" and
    // "Options") or of QUORVEL_RFC_LIBRARY; false after a message box.
    bool ChooseRfcLibrary();

    KernelSource m_Kernel;
    std::unique_ptr<QSplashScreen> m_pSplash;
    int m_nExitCode = 0;
};
