// The seams' scoped overrides: whatever order they end in, the service in
// use is always one that is still alive.

#include "platform/seam.h"

#include <QTest>

#include <optional>

namespace {

struct Named {
    virtual ~Named() = default;
    virtual const char *name() const = 0;
};

struct Own final : Named {
    const char *name() const override { return "own"; }
};

struct StandIn final : Named {
    explicit StandIn(const char *n) : n(n) {}
    const char *name() const override { return n; }
    const char *n;
};

} // namespace

class TestSeam : public QObject {
    Q_OBJECT
private slots:
    void overridesEndInAnyOrder();
};

void TestSeam::overridesEndInAnyOrder()
{
    Seam<Named, Own> seam;
    StandIn first("first"), second("second"), third("third");
    QCOMPARE(seam.get().name(), "own");
    {
        std::optional<ScopedOverride<Named>> a(std::in_place, seam, first);
        std::optional<ScopedOverride<Named>> b(std::in_place, seam, second);
        QCOMPARE(seam.get().name(), "second");
        // The covered override ends first (a test's recorder outlived by
        // another's): the newer one still answers, and when it ends the
        // program's own service comes back, not the stand-in that is gone.
        a.reset();
        QCOMPARE(seam.get().name(), "second");
        {
            const ScopedOverride<Named> c(seam, third);
            QCOMPARE(seam.get().name(), "third");
        }
        QCOMPARE(seam.get().name(), "second");
        b.reset();
        QCOMPARE(seam.get().name(), "own");
    }
    {
        // Ending in the order they began gives each covered one back.
        const ScopedOverride<Named> a(seam, first);
        {
            const ScopedOverride<Named> b(seam, second);
        }
        QCOMPARE(seam.get().name(), "first");
    }
    QCOMPARE(seam.get().name(), "own");
}

QTEST_GUILESS_MAIN(TestSeam)
#include "test_seam.moc"
