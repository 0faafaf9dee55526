#pragma once
// The operations of the shared progress window, as the work that reports
// through it sees them. The program's progress window implements them; tests
// install a recorder.

#include "platform/seam.h"
#include <QString>

class ProgressOperations {
public:
    virtual ~ProgressOperations() = default;
    virtual void ShowProgress() = 0;              // visible, not modal, in front
    virtual void SetProgressText(const QString &text) = 0;
    virtual void SetProgressPosition(int position) = 0; // 0 to 100
    virtual void ProcessPendingEvents() = 0;      // lets queued paint and input events run
    // Paints the window now, before a step that lets no events run; input
    // waits until that step is done.
    virtual void PaintNow() {}
    virtual void CloseProgress() = 0;             // hides the window
};

// The progress window in use. Before one is installed, a silent one that
// only processes pending events.
ProgressOperations &progress();
// Where the program puts its progress window and a test its recorder
// (ScopedOverride in platform/seam.h).
Overridable<ProgressOperations> &progressSeam();
