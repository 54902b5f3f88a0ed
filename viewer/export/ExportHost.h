#pragma once
// What the save routines need of the windows: the order window's subset rows (start, end,
// step and count of each dimension of the entry described), its size box and target box, the
// item at its cursor, the three-button question form, loading a file as the new dataset and
// redrawing the map frame. The order window implements it and installs it; until then a
// MemoryExportHost answers, which tests fill and read.
#include "runtime/Types.h"
#include "viewer/map/SharedState.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class ExportHost {
public:
    virtual ~ExportHost() = default;

    // The number of subset rows (dimensions beyond them have no boxes).
    virtual Long SubsetRows() const = 0;
    // The texts of row d (1-based): start, end, step and count.
    virtual std::string StartText(Long d) const = 0;
    virtual std::string EndText(Long d) const = 0;
    virtual std::string StepText(Long d) const = 0;
    virtual void SetRow(Long d, const std::string& start, const std::string& end,
                        const std::string& step, const std::string& count) = 0;
    virtual void SetSizeText(const std::string& text) = 0;
    // The item of the list entry at the cursor; false when there is none.
    virtual bool CursorPick(PickItem& item) const = 0;
    // The target box.
    virtual std::string TargetText() const = 0;
    virtual void SetTargetText(const std::string& text) = 0;

    // The three-button form (ShortMsg): 6, 7, 2 for the buttons, 0 when closed. An empty
    // caption hides its button.
    virtual Long AskShortMsg(const std::string& caption, const std::string& text,
                             const std::string& button1, const std::string& button2,
                             const std::string& button3) = 0;
    // Makes path the current entry of the main window and the remembered list and loads it.
    virtual void LoadDataset(const std::string& path) = 0;
    // Clears the map picture and redraws the frame and coastline for the current view.
    virtual void RedrawFrame() = 0;
    // The variable-alias dialog, modal: the user may add names to the alias lists of clsNC.
    virtual void AddVariableAlias() = 0;
};

// Everything in memory: the rows, boxes and cursor entry that a test sets, the questions
// answered through the Ui, and the loads and redraws counted.
class MemoryExportHost : public ExportHost {
public:
    struct Row {
        std::string start, end, step, count;
    };
    std::array<Row, 4> rows;
    std::string sizeText, targetText;
    bool hasCursor = false;
    PickItem cursor;
    std::vector<std::string> loaded;
    int redraws = 0;
    int aliasDialogs = 0;
    // What the user does in the alias dialog (nothing when empty).
    std::function<void()> onAliasDialog;

    Long SubsetRows() const override { return static_cast<Long>(rows.size()); }
    std::string StartText(Long d) const override { return row(d).start; }
    std::string EndText(Long d) const override { return row(d).end; }
    std::string StepText(Long d) const override { return row(d).step; }
    void SetRow(Long d, const std::string& start, const std::string& end, const std::string& step,
                const std::string& count) override;
    void SetSizeText(const std::string& text) override { sizeText = text; }
    bool CursorPick(PickItem& item) const override {
        if (hasCursor) item = cursor;
        return hasCursor;
    }
    std::string TargetText() const override { return targetText; }
    void SetTargetText(const std::string& text) override { targetText = text; }
    Long AskShortMsg(const std::string& caption, const std::string& text,
                     const std::string& button1, const std::string& button2,
                     const std::string& button3) override;
    void LoadDataset(const std::string& path) override { loaded.push_back(path); }
    void RedrawFrame() override { ++redraws; }
    void AddVariableAlias() override {
        ++aliasDialogs;
        if (onAliasDialog) onAliasDialog();
    }

private:
    const Row& row(Long d) const;
};

// The host in use.
ExportHost& exportHost();
// Installs a host (not owned) and returns the one replaced; nullptr restores the default.
ExportHost* setExportHost(ExportHost* host);
// The default host, for tests that type into its rows.
MemoryExportHost& defaultExportHost();
