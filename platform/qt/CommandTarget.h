#pragma once

// A window that handles command ids: true when it knew the command.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual bool OnCommand(int id) = 0;
};
