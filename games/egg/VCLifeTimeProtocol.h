#pragma once
// What the egg game asks of the things that live on its face for a while (eggs and chicks).

namespace plumbrick {

class VCLifeTimeProtocol {
public:
    virtual ~VCLifeTimeProtocol() = default;
    // True when the object has run through all its positions and may be dropped.
    virtual bool isDelete() const = 0;
    // One step of the object's own countdown.
    virtual void cycleLifeTime() = 0;
};

}   // namespace plumbrick
