#pragma once

class QWindow;

namespace quorvel {

// Asks the X window manager once more to map a window that Qt has shown. A manager that
// is still starting up can hold a map request back until some other request reaches it;
// repeating the request lets it act. Does nothing on other window systems.
void repeatMapRequest(const QWindow& window);

}  // namespace quorvel
