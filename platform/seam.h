#pragma once
// The holder behind each replaceable service of the program (message boxes,
// dialogs, progress, the start of the interpreter ...): the service of the
// innermost override still alive, or the program's own one while none is.
//
// An override is an object that answers the seam from its construction to
// its destruction, so that a test which fails half-way leaves nothing behind
// for the next one, and a stand-in that is gone is never called. Overrides
// may end in any order: each takes only itself out, and the one below it
// answers again.
//
// No widget code: the core uses it for the start of the interpreter.

template <class Service>
class ScopedOverride;

// The overrides in force on one service.
template <class Service>
class Overridable {
public:
    Overridable() = default;
    Overridable(const Overridable &) = delete;
    Overridable &operator=(const Overridable &) = delete;
    ~Overridable();

    // The service of the innermost override still alive; nullptr when none is.
    Service *overriding() const;

private:
    friend class ScopedOverride<Service>;
    ScopedOverride<Service> *Innermost = nullptr;
};

// Answers `seam` with `service` for as long as it lives.
template <class Service>
class ScopedOverride {
public:
    ScopedOverride(Overridable<Service> &seam, Service &service)
        : Holder(&seam), Answer(service), Outer(seam.Innermost)
    {
        seam.Innermost = this;
    }
    ~ScopedOverride()
    {
        if (!Holder)
            return;
        ScopedOverride **link = &Holder->Innermost;
        while (*link && *link != this)
            link = &(*link)->Outer;
        if (*link)
            *link = Outer;
    }
    ScopedOverride(const ScopedOverride &) = delete;
    ScopedOverride &operator=(const ScopedOverride &) = delete;

private:
    friend class Overridable<Service>;
    Overridable<Service> *Holder; // null once the seam itself is gone
    Service &Answer;
    ScopedOverride *Outer;        // the override it covers
};

template <class Service>
Overridable<Service>::~Overridable()
{
    // A seam that ends first (a runner of a test) leaves its overrides
    // nothing to take themselves out of.
    for (ScopedOverride<Service> *o = Innermost; o; o = o->Outer)
        o->Holder = nullptr;
}

template <class Service>
Service *Overridable<Service>::overriding() const
{
    return Innermost ? &Innermost->Answer : nullptr;
}

// A seam whose own service is a `Default`, made on first use.
template <class Service, class Default>
class Seam : public Overridable<Service> {
public:
    Service &get()
    {
        if (Service *service = this->overriding())
            return *service;
        static Default fallback;
        return fallback;
    }
};
