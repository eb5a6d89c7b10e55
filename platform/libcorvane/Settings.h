#pragma once

namespace libcorvane {

// Per-start settings of the process. init() points every QSettings store (native and INI format,
// system and user scope) under the file-system root, so no store reaches the real /etc or home
// directory outside the embosser. Called once per start-up pass before any object is built;
// calling it again is harmless.
class Settings {
public:
    static void init();
};

} // namespace libcorvane
