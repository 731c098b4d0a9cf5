#pragma once

#include "platform/dialog_template.h"

namespace ardvix::window {

// The About box (template 100): the window icon, the version text and "확인".
const platform::DialogTemplate& AboutTemplate();

// The Help box (template 135): the help text and "확인".
const platform::DialogTemplate& HelpTemplate();
// Two lines; the double blank after "can't" is part of the text.
extern const char* const kHelpText;

}  // namespace ardvix::window
