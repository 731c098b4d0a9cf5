// Texts whose lines end in CR LF, as the Windows edit box and the system's code hold them,
// and their form on screen, where Qt's text widgets split lines on LF.
#pragma once

#include <QString>
#include <string>

namespace ardvix::platform::qt {

// The text as shown: each CR LF becomes a line break.
QString DisplayedLines(const std::string& crlf_text);
// The text of a box the operator edited: each line break becomes CR LF.
std::string CrLfTextOf(const QString& displayed);
// Lines as the edit box counts them: separated by CR LF; an empty text is one line.
int CrLfLineCount(const std::string& crlf_text);

}  // namespace ardvix::platform::qt
