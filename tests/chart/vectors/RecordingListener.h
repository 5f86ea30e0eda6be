#pragma once
// A stand-in series that records every message a vector sends it, as text.

#include "vectors/CustomDoubleVector.h"
#include "vectors/VectorListener.h"

#include <string>
#include <vector>

class RecordingListener : public TVxVectorListener {
public:
    explicit RecordingListener(std::string Name, const TVxCustomDoubleVector* Y = nullptr)
        : FName(std::move(Name)), FY(Y) {}

    std::vector<std::string>* Log = &FOwnLog;

    void PointsModified() override { Record("PointsModified"); }
    void SetLastCount(int Value) override { Record("SetLastCount(" + std::to_string(Value) + ")"); }
    void RangesModified() override { Record("RangesModified"); }
    void ClearLinkedMarkers() override { Record("ClearLinkedMarkers"); }
    void ValueInsertedLinkedMarkers(int Idx) override {
        Record("ValueInsertedLinkedMarkers(" + std::to_string(Idx) + ")");
    }
    void DeleteLinkedMarkers(int Idx) override {
        Record("DeleteLinkedMarkers(" + std::to_string(Idx) + ")");
    }
    const TVxCustomDoubleVector* YData() const override { return FY; }

private:
    void Record(const std::string& Message) { Log->push_back(FName + "." + Message); }

    std::string FName;
    const TVxCustomDoubleVector* FY;
    std::vector<std::string> FOwnLog;
};
