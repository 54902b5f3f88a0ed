// Members of a QObject called by name: arguments converted to the parameter types, results
// as Variants, and the errors a late-bound call raises (91, 438, 450, 13, 6).
#include "gui/LateBound.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ErrorOf.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVariant>

#include <functional>
#include <gtest/gtest.h>

namespace {

class Probe : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Count READ Count)
    Q_PROPERTY(bool Flag READ Flag WRITE setFlag)

public:
    Q_INVOKABLE QVariant Status(int n) { return QVariant::fromValue(static_cast<short>(n)); }
    Q_INVOKABLE float Half(float x) { return x / 2; }
    Q_INVOKABLE QString Join(const QString& a, double b) { return a + "|" + QString::number(b); }
    Q_INVOKABLE void Store(short i, bool b) {
        stored = i;
        storedFlag = b;
    }
    Q_INVOKABLE QVariant Nothing() { return {}; }
    Q_INVOKABLE QVariant Echo(const QVariant& v) { return v; }
    Q_INVOKABLE int Sum(int a, int b = 10) { return a + b; }
    Q_INVOKABLE QPoint Where() { return {1, 2}; }
    Q_INVOKABLE void TakePoint(QPoint) {}

    QString Caption() const { return caption; }
    void setCaption(const QString& c) { caption = c; }
    int Count() const { return 7; }
    bool Flag() const { return flag; }
    void setFlag(bool f) { flag = f; }

    void NotInvokable() {}

public slots:
    void ASlot() {}

public:
    QString caption;
    bool flag = false;
    short stored = 0;
    bool storedFlag = false;
};

// A class that lists its interface with dispatch ids: only those members are reachable.
class Listed : public Probe {
    Q_OBJECT
    Q_CLASSINFO("DispId.Half", "0x60030020")
    Q_CLASSINFO("DispId.Caption", "0x6803001f")
};

} // namespace

TEST(LateBound, ArgumentsAreConvertedAndResultsComeBackAsTheirKind) {
    Probe p;
    LateBound o(&p);

    const Variant status = o.Call("Status", {Variant(1.0)});
    EXPECT_EQ(status.type(), Variant::Type::kInteger);
    EXPECT_EQ(status.toLong(), 1);

    const Variant half = o.Call("Half", {Variant(std::string("3"))});
    EXPECT_EQ(half.type(), Variant::Type::kSingle);
    EXPECT_FLOAT_EQ(half.toSingle(), 1.5f);

    const Variant joined = o.Call("Join", {Variant(Long{12}), Variant(std::string(" 2.5 "))});
    EXPECT_EQ(joined.type(), Variant::Type::kString);
    EXPECT_EQ(joined.toString(), "12|2.5");

    // Integers round halves to even, Booleans take any number.
    o.Call("Store", {Variant(2.5), Variant(Long{-1})});
    EXPECT_EQ(p.stored, 2);
    EXPECT_TRUE(p.storedFlag);
    o.Call("Store", {Variant(Integer{3}), Variant(std::string("False"))});
    EXPECT_EQ(p.stored, 3);
    EXPECT_FALSE(p.storedFlag);

    EXPECT_TRUE(o.Call("Nothing").IsEmpty());
    EXPECT_TRUE(o.Call("Store", {Variant(Integer{1}), Variant(true)}).IsEmpty());

    // A QVariant parameter takes the Variant's own kind.
    EXPECT_EQ(o.Call("Echo", {Variant(Long{5})}).type(), Variant::Type::kLong);
    EXPECT_EQ(o.Call("Echo", {Variant(std::string("x"))}).toString(), "x");
    EXPECT_TRUE(o.Call("Echo", {Variant()}).IsEmpty());

    // Texts are bytes: UTF-8 passes unchanged.
    EXPECT_EQ(o.Call("Join", {Variant(std::string("\xc3\xa9t\xc3\xa9")), Variant(1.0)}).toString(),
              "\xc3\xa9t\xc3\xa9|1");

    // A default argument makes a method of one argument fewer.
    EXPECT_EQ(o.Call("Sum", {Variant(Long{1})}).toLong(), 11);
    EXPECT_EQ(o.Call("Sum", {Variant(Long{1}), Variant(Long{2})}).toLong(), 3);
}

TEST(LateBound, PropertiesAreReadAndAssigned) {
    Probe p;
    LateBound o(&p);
    o.Let("Caption", Variant(std::string("a.nc")));
    EXPECT_EQ(p.caption, "a.nc");
    EXPECT_EQ(o.Get("Caption").toString(), "a.nc");
    // A property is read by Call as well, a method by Get.
    EXPECT_EQ(o.Call("Count").toLong(), 7);
    EXPECT_FLOAT_EQ(o.Get("Half", {Variant(1.0)}).toSingle(), 0.5f);

    o.Let("Flag", Variant(Long{-1}));
    const Variant flag = o.Get("Flag");
    EXPECT_EQ(flag.type(), Variant::Type::kBoolean);
    EXPECT_EQ(flag.toLong(), -1); // True is -1 as a number
    o.Let("Flag", Variant(false));
    EXPECT_EQ(o.Get("Flag").toLong(), 0);
}

TEST(LateBound, NamesAreFoundWithoutRegardToCase) {
    Probe p;
    LateBound o(&p);
    EXPECT_FLOAT_EQ(o.Call("HALF", {Variant(4.0)}).toSingle(), 2.0f);
    o.Let("caption", Variant(std::string("x")));
    EXPECT_EQ(o.Get("CAPTION").toString(), "x");
}

TEST(LateBound, RaisesTheErrorsOfALateBoundCall) {
    Probe p;
    LateBound o(&p);
    struct Case {
        const char* what;
        std::function<void()> call;
        int error;
    };
    const Case cases[] = {
        {"unknown name", [&] { o.Call("Nope"); }, err::NoSuchMember},
        {"unknown property", [&] { o.Let("Nope", Variant(Long{1})); }, err::NoSuchMember},
        {"public but not invokable", [&] { o.Call("NotInvokable"); }, err::NoSuchMember},
        {"a slot is no member", [&] { o.Call("ASlot"); }, err::NoSuchMember},
        {"too few arguments", [&] { o.Call("Half"); }, err::WrongArguments},
        {"too many arguments",
         [&] {
             o.Call("Half", {Variant(1.0), Variant(2.0)});
         },
         err::WrongArguments},
        {"arguments to a property", [&] { o.Call("Count", {Variant(1.0)}); }, err::WrongArguments},
        {"read-only property", [&] { o.Let("Count", Variant(Long{1})); }, err::WrongArguments},
        {"assignment to a method", [&] { o.Let("Half", Variant(1.0)); }, err::WrongArguments},
        {"text that is no number", [&] { o.Call("Half", {Variant(std::string("abc"))}); },
         err::TypeMismatch},
        {"text to a Boolean",
         [&] {
             o.Call("Store", {Variant(Integer{1}), Variant(std::string("yes"))});
         },
         err::TypeMismatch},
        {"parameter of no Variant kind", [&] { o.Call("TakePoint", {Variant(Long{1})}); },
         err::TypeMismatch},
        {"result of no Variant kind", [&] { o.Call("Where"); }, err::TypeMismatch},
        {"number out of range", [&] { o.Call("Status", {Variant(1e10)}); }, err::Overflow},
        {"no object", [&] { LateBound().Call("Half", {Variant(1.0)}); }, err::ObjectNotSet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf(c.call), c.error);
    }
}

TEST(LateBound, AClassWithDispatchIdsShowsOnlyTheMembersItLists) {
    Listed l;
    LateBound o(&l);
    EXPECT_EQ(o.DispId("Half"), 0x60030020);
    EXPECT_EQ(o.DispId("caption"), 0x6803001f);
    EXPECT_FLOAT_EQ(o.Call("Half", {Variant(1.0)}).toSingle(), 0.5f);
    EXPECT_EQ(errorOf([&] { o.Call("Status", {Variant(1.0)}); }), err::NoSuchMember);
    EXPECT_EQ(errorOf([&] { o.Get("objectName"); }), err::NoSuchMember);
    EXPECT_EQ(errorOf([&] { o.DispId("Status"); }), err::NoSuchMember);

    // Without a list every invokable method and property is a member, without an id.
    Probe p;
    EXPECT_EQ(LateBound(&p).DispId("Half"), -1);
    EXPECT_EQ(LateBound(&p).Get("objectName").toString(), "");
}

#include "LateBoundTest.moc"
