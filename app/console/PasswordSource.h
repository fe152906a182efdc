// Where the headless front end's password comes from, first found first:
// --password-file FILE, the systemd credential "password"
// ($CREDENTIALS_DIRECTORY/password), QUORVEL_PASSWORD, the settings (the
// logon step reads those itself), and last a prompt without echo when
// standard input is a terminal. Never the command line.
#pragma once

#include <optional>
#include <string>

struct PasswordResult {
    std::optional<std::u16string> password;  // none: the stored one, if any
    std::string error;                       // a source that was named cannot be used
    bool fromOutside = false;  // a file, a credential or the environment: never stored
};

// Looks at the file, the credential and the environment. QUORVEL_PASSWORD
// is wiped from the process's environment, the memory that /proc shows
// included, whether or not it is the source taken.
PasswordResult PasswordFromSources(const std::string& passwordFile);

// The first line of a password file, which must be a regular file that
// neither group nor others may read. False with the reason.
bool ReadPasswordFile(const std::string& path, std::u16string& password, std::string& error);

// Asks on the terminal without echo; none when standard input is not a
// terminal or the answer is empty. The terminal's echo is restored also when
// a stop signal ends the process during the prompt (StopSignals.h).
std::optional<std::u16string> PromptForPassword();
