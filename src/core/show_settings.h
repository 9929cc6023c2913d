#pragma once

#include <QString>

class Workspace;

namespace Zentrove {

// Opens the control app on a page, from a part or the menu bar item. A control app that is not
// running starts with "--show page"; one that runs gets the show notice, posted once the start
// attempt is over whether or not it worked.
void showSettings(const QString& page, Workspace& workspace);

} // namespace Zentrove
