#include "platform/progress.h"

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

ProgressOperations *installed = nullptr;

} // namespace

ProgressOperations &progress()
{
    static SilentProgress silent;
    return installed ? *installed : silent;
}

void setProgress(ProgressOperations *operations)
{
    installed = operations;
}
