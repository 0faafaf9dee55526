#pragma once
// The holder behind each replaceable service of the program (message boxes,
// dialogs, progress, ...): the service installed last, or the program's own
// one while none is installed. Installing nullptr returns to the program's own.

template <class Service, class Default>
class Seam {
public:
    Service &get()
    {
        static Default fallback;
        return Installed ? *Installed : fallback;
    }
    void install(Service *service) { Installed = service; }

private:
    Service *Installed = nullptr;
};
