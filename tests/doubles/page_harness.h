#pragma once

#include "platform/step_trap.h"
#include "oracle/connection_profile.h"
#include "plain_controls.h"
#include "scripted_dialogs.h"
#include "tableops/page_context.h"

// The tables page as the table operations see it, made of plain doubles.
class PageHarness : public oracle::ProfileSource {
public:
    oracle::ConnectionProfile CurrentProfile(oracle::DatabaseSide side) const override
    {
        return side == oracle::DatabaseSide::One ? profile1 : profile2;
    }

    PlainTableList& list(oracle::DatabaseSide side) { return side == oracle::DatabaseSide::One ? list1 : list2; }

    tableops::PageContext context()
    {
        return tableops::PageContext{dialogs, pointer, pump, progress, journal, *this, list1, list2, "Mirravel", rowBuffer, oracle::DriverRoute(), batch};
    }

    // Runs an operation the way its button handler does: under one trap with the handler's path,
    // ending quietly when the window was closed. True when the operation ran to its end.
    template <typename Operation>
    bool run(const QString& procedurePath, Operation operation)
    {
        platform::StepTrap trap(dialogs, procedurePath, &pump);
        try {
            operation(trap, context());
        } catch (const platform::OperationCancelled&) {
            return false;
        }
        return true;
    }

    oracle::ConnectionProfile profile1;
    oracle::ConnectionProfile profile2;
    ScriptedDialogs dialogs;
    RecordingPointer pointer;
    CountingPump pump;
    RecordingProgress progress;
    RecordingJournal journal;
    PlainTableList list1;
    PlainTableList list2;
    tableops::RowBufferLimits rowBuffer;
    tableops::BatchSize batch;
};
