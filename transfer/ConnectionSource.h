#pragma once

class HIDQuorrel;

// Where the transfers find the device connection. It is asked anew before
// every request, because the connection can go away in between (the window
// tears it down when the device is unplugged); null means no device.
class ConnectionSource
{
public:
    virtual ~ConnectionSource() = default;
    virtual HIDQuorrel* Connection() = 0;
};

// A connection that stays as it was given (the command-line tool's).
class FixedConnection final : public ConnectionSource
{
public:
    explicit FixedConnection(HIDQuorrel* connection) : m_connection(connection) {}
    HIDQuorrel* Connection() override { return m_connection; }

private:
    HIDQuorrel* m_connection;
};
