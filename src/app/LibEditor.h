#pragma once

#include "model/Classes.Libs.Interfaces.h"

// Shows the list editor modally for `lib`; returns when it is closed.
void LibEdit(const ITallysetLibPtr &lib);
