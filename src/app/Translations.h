#pragma once

class QCoreApplication;

// Speaks French whatever the host's language: Qt's own French translations (standard buttons,
// dialogs) are installed, and dates and numbers follow the French locale.
void installFrench(QCoreApplication &app);
