#include "platform/progress.h"

#include "platform/seam.h"

#include <QCoreApplication>

namespace {

class SilentProgress final : public ProgressOperations {
public:
    void ShowProgress() override {}
    void SetProgressText(const QString &) override {}
    void SetProgressPosition(int) override {}
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
    void CloseProgress() override {}
};

Seam<ProgressOperations, SilentProgress> seam;

} // namespace

ProgressOperations &progress()
{
    return seam.get();
}

Overridable<ProgressOperations> &progressSeam()
{
    return seam;
}
