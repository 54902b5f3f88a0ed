#pragma once
// The section-view control TyxSect: its dispatch members, spelled as a host calls them, with
// their dispatch ids. Hosts never include this header: they create the control through the
// plug-in's factory and call the members by name (gui/LateBound).
//
// No exception leaves a member: a caught error leaves "[Member] Error: " with its number and
// description in ErrorMessage, and the member returns its failure value (-1 for a status).
// Status results are Integers 1 or -1, Draw and ReDraw give Empty once they have drawn,
// Booleans are True or False.
#include "gui/Picture.h"
#include "tyxsection/TyxModel.h"

#include <QImage>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

#include <memory>

class PictureWidget;
class QResizeEvent;
struct TyxPictures;

class TyxSect : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "TyxSection.TyxSect")
    Q_CLASSINFO("DispId.ShowOptions", "0x60030020")
    Q_CLASSINFO("DispId.NcFile", "0x60030023")
    Q_CLASSINFO("DispId.KewFile", "0x60030024")
    Q_CLASSINFO("DispId.NewSection", "0x60030025")
    Q_CLASSINFO("DispId.AddSection", "0x60030026")
    Q_CLASSINFO("DispId.AddColorKey", "0x60030027")
    Q_CLASSINFO("DispId.NewColorKey", "0x60030028")
    Q_CLASSINFO("DispId.EndSection", "0x60030029")
    Q_CLASSINFO("DispId.SetVarByName", "0x6003002a")
    Q_CLASSINFO("DispId.SetVarByOrder", "0x6003002b")
    Q_CLASSINFO("DispId.ErrorMessage", "0x6803001f")
    Q_CLASSINFO("DispId.NumDrawAbleItems", "0x6803001e")
    Q_CLASSINFO("DispId.ItemName", "0x6003002c")
    Q_CLASSINFO("DispId.DrawProfile", "0x6803001d")
    Q_CLASSINFO("DispId.DrawVerticalSection", "0x6803001c")
    Q_CLASSINFO("DispId.Draw", "0x6003002d")
    Q_CLASSINFO("DispId.SetCurrentTime", "0x6003002e")
    Q_CLASSINFO("DispId.AdvanceTime", "0x6003002f")
    Q_CLASSINFO("DispId.ReDraw", "0x60030030")
    Q_CLASSINFO("DispId.UseColorKey", "0x6803001b")
    Q_CLASSINFO("DispId.InitColorKey", "0x60030031")
    Q_PROPERTY(QString ErrorMessage READ ErrorMessage)
    Q_PROPERTY(int NumDrawAbleItems READ NumDrawAbleItems)
    Q_PROPERTY(bool DrawProfile READ DrawProfile WRITE setDrawProfile)
    Q_PROPERTY(bool DrawVerticalSection READ DrawVerticalSection WRITE setDrawVerticalSection)
    Q_PROPERTY(bool UseColorKey READ UseColorKey WRITE setUseColorKey)

public:
    TyxSect(std::shared_ptr<TyxModel> model, QWidget* parent = nullptr);
    ~TyxSect() override;

    Q_INVOKABLE void ShowOptions();
    Q_INVOKABLE QVariant NcFile(const QString& filename);
    Q_INVOKABLE QVariant KewFile(const QString& filename);
    Q_INVOKABLE void NewSection();
    Q_INVOKABLE void AddSection(float X, float y);
    Q_INVOKABLE void AddColorKey(float vLow, float vHig, int col);
    Q_INVOKABLE void NewColorKey();
    Q_INVOKABLE QVariant EndSection();
    Q_INVOKABLE QVariant SetVarByName(const QString& vName);
    Q_INVOKABLE QVariant SetVarByOrder(int Order);
    QString ErrorMessage() const;
    int NumDrawAbleItems() const;
    Q_INVOKABLE QString ItemName(int nOrder);
    bool DrawProfile() const;
    void setDrawProfile(bool on);
    bool DrawVerticalSection() const;
    void setDrawVerticalSection(bool on);
    Q_INVOKABLE QVariant Draw();
    Q_INVOKABLE void SetCurrentTime(int lTime);
    Q_INVOKABLE QVariant AdvanceTime(int nt);
    Q_INVOKABLE QVariant ReDraw();
    bool UseColorKey() const;
    void setUseColorKey(bool on);
    Q_INVOKABLE void InitColorKey(const QString& filename);

    // For tests, outside the dispatch interface (no dispatch id, so hosts cannot reach them):
    // recordPictures starts (or stops) the primitive logs of the four pictures afresh;
    // pictureRecords gives the log of one ("Picture1", "picSection", "picDateTime",
    // "picContours") as a list of maps {kind, at, px, color, fillColor, fillStyle, drawMode,
    // drawWidth, text}; pictureImage its image.
    Q_INVOKABLE void recordPictures(bool on);
    Q_INVOKABLE QVariantList pictureRecords(const QString& name);
    Q_INVOKABLE QImage pictureImage(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Every member runs its work through one of these.
    template <class F> QVariant trapped(const char* member, const QVariant& failure, F&& work);
    template <class F> void trappedVoid(const char* member, F&& work);

    // The pictures follow the control's size; a new size draws again.
    void UserControl_Resize();
    void Picture1_Resize();

    // A drawing in progress: a redraw asked for meanwhile (a resize while events run) waits
    // until it ends instead of starting inside it.
    class DrawingScope;
    TyxPictures pictures();
    // The picture of that name; nullptr for another name.
    Picture* pictureNamed(const QString& name);

    std::shared_ptr<TyxModel> model_;
    PictureWidget* picture1_ = nullptr;
    Picture picSection_;
    Picture picDateTime_;
    Picture picContours_;
    bool drawing_ = false;
    bool redrawPending_ = false;
};
