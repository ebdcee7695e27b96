#pragma once

/**
 * @short Shows the busy cursor for its lifetime, also when the work throws;
 * does nothing outside the user-interface thread of a GUI program.
 */
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    const bool m_active;
};
