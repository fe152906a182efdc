// The collector program's start-up: the operating-system check, the
// process's locale and settings root, the splash window, and the main
// dialog run modally until the operator leaves.
//
// Thread rules: user-interface thread only; a QApplication must exist.
#pragma once

#include <functional>
#include <memory>

class QSplashScreen;

// The running system's version record, as the platform layer reports it.
struct OsVersionInfo {
    int major = 0;
    int minor = 0;
};

// The kernel's release read as major.minor; zeros when it cannot be read.
OsVersionInfo ReadOsVersion();

class CCollectorApp {
  public:
    static constexpr int kMinimumMajorVersion = 5;
    static constexpr int kSplashMs = 3000;
    // Where the settings of Ostrel's programs live (see SettingsStore).
    static constexpr const char* kSettingsRoot = "Ostrel/VantrixSAP";

    using VersionSource = std::function<OsVersionInfo()>;

    explicit CCollectorApp(VersionSource version = ReadOsVersion);
    virtual ~CCollectorApp();

    // Runs the program; false always, so the caller ends the process.
    bool InitInstance();

    QSplashScreen* Splash() const { return m_pSplash.get(); }

  protected:
    // Constructs the main dialog, runs it modally and destroys it.
    virtual void RunMainDialog();

  private:
    void ShowSplash();

    VersionSource m_Version;
    std::unique_ptr<QSplashScreen> m_pSplash;
};
