#pragma once
// Stand-ins for the section control, for the driver's tests: QWidgets with the control's
// members by name. RecordingTyx records every call and answers what the test sets; the other
// two are controls of another make.
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

// One member called, with its arguments.
struct TyxCall {
    std::string name;
    QVariantList args;
};

// The members the driver may call, with the control's signatures; every call is recorded, and
// status members answer what the test set (1 by default).
class RecordingTyx : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ErrorMessage READ ErrorMessage)
    Q_PROPERTY(int NumDrawAbleItems READ NumDrawAbleItems)
    Q_PROPERTY(bool DrawProfile READ DrawProfile WRITE setDrawProfile)
    Q_PROPERTY(bool DrawVerticalSection READ DrawVerticalSection WRITE setDrawVerticalSection)
    Q_PROPERTY(bool UseColorKey READ UseColorKey WRITE setUseColorKey)
public:
    using QWidget::QWidget;

    std::vector<TyxCall> calls;
    std::map<std::string, QVariant> results;
    QString errorText;
    std::vector<QString> items; // the drawable items' names, in order
    std::function<void(const std::string&)> onCall;

    Q_INVOKABLE QVariant NcFile(const QString& f) { return status("NcFile", {f}); }
    Q_INVOKABLE QVariant KewFile(const QString& f) { return status("KewFile", {f}); }
    Q_INVOKABLE void NewSection() { record("NewSection", {}); }
    Q_INVOKABLE void AddSection(float X, float y) { record("AddSection", {X, y}); }
    Q_INVOKABLE void AddColorKey(float lo, float hi, int c) { record("AddColorKey", {lo, hi, c}); }
    Q_INVOKABLE void NewColorKey() { record("NewColorKey", {}); }
    Q_INVOKABLE QVariant EndSection() { return status("EndSection", {}); }
    Q_INVOKABLE QVariant SetVarByOrder(int order) { return status("SetVarByOrder", {order}); }
    Q_INVOKABLE void SetCurrentTime(int lTime) { record("SetCurrentTime", {lTime}); }
    // Queries, not recorded.
    int NumDrawAbleItems() const { return static_cast<int>(items.size()); }
    Q_INVOKABLE QString ItemName(int n) {
        return n >= 1 && n <= NumDrawAbleItems() ? items[static_cast<std::size_t>(n - 1)] : "";
    }
    Q_INVOKABLE QVariant Draw() {
        record("Draw", {});
        auto it = results.find("Draw");
        return it == results.end() ? QVariant() : it->second;
    }
    QString ErrorMessage() const { return errorText; }
    bool DrawProfile() const { return false; }
    void setDrawProfile(bool on) { record("DrawProfile=", {on}); }
    bool DrawVerticalSection() const { return false; }
    void setDrawVerticalSection(bool on) { record("DrawVerticalSection=", {on}); }
    bool UseColorKey() const { return false; }
    void setUseColorKey(bool on) { record("UseColorKey=", {on}); }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const TyxCall& c : calls)
            out.push_back(c.name);
        return out;
    }

private:
    void record(const char* name, QVariantList args) {
        calls.push_back({name, std::move(args)});
        if (onCall) onCall(name);
    }
    QVariant status(const char* name, QVariantList args) {
        record(name, std::move(args));
        auto it = results.find(name);
        return it == results.end() ? QVariant(short{1}) : it->second;
    }
};

// Controls of another make: one without SetVarByOrder, one whose AddSection takes a third
// value.
class NoOrderTyx : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ErrorMessage READ ErrorMessage)
public:
    using QWidget::QWidget;
    Q_INVOKABLE QVariant NcFile(const QString&) { return 1; }
    Q_INVOKABLE void NewSection() {}
    Q_INVOKABLE void AddSection(float, float) {}
    Q_INVOKABLE QVariant EndSection() { return 1; }
    QString ErrorMessage() const { return {}; }
};

class ThreeValueTyx : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString ErrorMessage READ ErrorMessage)
public:
    using QWidget::QWidget;
    Q_INVOKABLE QVariant NcFile(const QString&) { return 1; }
    Q_INVOKABLE void NewSection() {}
    Q_INVOKABLE void AddSection(float, float, float) {}
    QString ErrorMessage() const { return {}; }
};

