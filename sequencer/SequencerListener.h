#pragma once
// What the sequencer tells the plug-in while it plays: editor notifications (by code) and
// the activity of an instrument row, for the editor's lamps.

namespace vorlatek {

class SequencerListener {
public:
    virtual ~SequencerListener() = default;
    virtual void notify(int code) = 0;
    virtual void instrumentActivity(int row) = 0;
};

}  // namespace vorlatek
