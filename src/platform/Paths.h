#pragma once

#include <QString>

// The user's application-data folder: $XDG_DATA_HOME, else $HOME/.local/share,
// with a trailing "/"; empty when neither is known.
QString UserAppDataPath();
