#include "app/menu_builders.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/documents.h"
#include "app/help_commands.h"
#include "app/input_panel.h"
#include "app/intensity_commands.h"
#include "app/large_view.h"
#include "app/list_commands.h"
#include "app/plot_commands.h"
#include "app/powder_command.h"
#include "app/structure_window.h"
#include "app/toolbar_icons.h"
#include "app/window_commands.h"
#include "app/zone_window.h"

namespace tesral {

namespace {

/** A menu item with its objectName (the name tests and scripts find it by). */
QAction* item(QMenu& menu, const char* name, const QString& caption,
              const QKeySequence& shortcut = {}) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

/** The plot's metafile copy, as Copy 2D/3D as WMF makes it. */
void copyPlot(CommandContext& c, PlotKind kind) {
    CopyPictureCommand::copy(c, plotPicture(c, kind), QLatin1String(kPlotMetafile));
}

/** A plain action for a button that is not in a menu. */
QAction* buttonAction(QObject* parent, const QString& text, const QString& toolTip) {
    auto* action = new QAction(text, parent);
    action->setToolTip(toolTip);
    return action;
}

}  // namespace

void buildFileMenu(QMenu& menu, CommandContext& c) {
    using K = PlotKind;
    attach<NewCommand>(item(menu, "mnuFile1", QStringLiteral("New"), QKeySequence::New), c);
    menu.addSeparator();
    attach<SavePictureCommand>(item(menu, "mnuFile2", QStringLiteral("Save 2D as BMP")), c,
                               plotPicture(c, K::ZeroLayer), plotFiles());
    attach<SavePictureCommand>(item(menu, "mnuFile3", QStringLiteral("Save 3D as BMP")), c,
                               plotPicture(c, K::ThreeD), plotFiles());
    attach<SaveTableCommand>(
        item(menu, "mnuFile4", QStringLiteral("Save reflection list"), QKeySequence::Save), c);
    menu.addSeparator();
    attach<PrintPictureCommand>(item(menu, "mnuFile5", QStringLiteral("Print 2D plot")), c,
                                plotPicture(c, K::ZeroLayer));
    attach<PrintPictureCommand>(item(menu, "mnuFile6", QStringLiteral("Print 3D plot")), c,
                                plotPicture(c, K::ThreeD));
    attach<PrintListCommand>(item(menu, "mnuFile7", QStringLiteral("Print reflection list")), c);
    menu.addSeparator();
    attach<CopyPictureCommand>(item(menu, "mnuFile8", QStringLiteral("Copy 2D as WMF")), c,
                               plotPicture(c, K::ZeroLayer), QLatin1String(kPlotMetafile));
    attach<CopyBitmapCommand>(item(menu, "mnuFile12", QStringLiteral("Copy 2D as BMP")), c,
                              plotPicture(c, K::ZeroLayer));
    attach<CopyPictureCommand>(item(menu, "mnuFile9", QStringLiteral("Copy 3D as WMF")), c,
                               plotPicture(c, K::ThreeD), QLatin1String(kPlotMetafile));
    attach<CopyBitmapCommand>(item(menu, "mnuFile13", QStringLiteral("Copy 3D as BMP")), c,
                              plotPicture(c, K::ThreeD));
    attach<CopyListCommand>(item(menu, "mnuFile10", QStringLiteral("Copy reflection list")), c);
    menu.addSeparator();
    attach<ExitCommand>(
        item(menu, "mnuFile11", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q)), c);
}

void buildTableMenu(QMenu& menu, CommandContext& c) {
    using C = ColumnChoices;
    attach<ColumnCommand>(item(menu, "mnuTable1", QStringLiteral("xyz coordinates")), c, &C::xyz);
    attach<ColumnCommand>(item(menu, "mnuTable2", QStringLiteral("Indices")), c, &C::indices);
    attach<ColumnCommand>(item(menu, "mnuTable3", QStringLiteral("Theta")), c, &C::theta);
    attach<ColumnCommand>(item(menu, "mnuTable4", QStringLiteral("d-Spacing")), c, &C::dSpacing);
    attach<ColumnCommand>(item(menu, "mnuTable5", QStringLiteral("qe, qi")), c, &C::qeQi);
    attach<ColumnCommand>(item(menu, "mnuTable7", QStringLiteral("|H\u22a5|")), c, &C::hPerp);
    attach<ColumnCommand>(item(menu, "mnuTable8", QStringLiteral("I")), c, &C::intensity);
    attach<ColumnCommand>(item(menu, "mnuTable9", QStringLiteral("hkl (approximant)")), c, &C::hkl);
    menu.addSeparator();
    attach<WordProcessorCommand>(item(menu, "mnuTable6", QStringLiteral("Wordpad")), c);
}

void buildViewMenu(QMenu& menu, CommandContext& c) {
    attach<UsedMatricesCommand>(item(menu, "mnuView1", QStringLiteral("Used matrices")), c);
    attach<IntensityModelCommand>(item(menu, "mnuView10", QStringLiteral("Intensity model...")), c);
    menu.addSeparator();
    for (const PlotFlagItem& flag : kPlotFlagItems) {
        const QByteArray name(flag.objectName.data(), static_cast<int>(flag.objectName.size()));
        const QString caption =
            QString::fromLatin1(flag.caption.data(), static_cast<int>(flag.caption.size()));
        attach<PlotFlagCommand>(item(menu, name.constData(), caption), c, flag.flag);
    }
    menu.addSeparator();
    attach<PowderPatternCommand>(item(menu, "mnuViewPowder", QStringLiteral("Powder pattern...")),
                                 c);
    attach<ZoneAxisCommand>(item(menu, "mnuViewZone", QStringLiteral("Zone axis...")), c);
    attach<StructureCommand>(item(menu, "mnuViewStructure", QStringLiteral("Structure...")), c);
}

void buildHelpMenu(QMenu& menu, CommandContext& c) {
    using W = DocumentCommand::Where;
    // Pages of the bundled documentation: the manual, the product, its maker, its author.
    attach<DocumentCommand>(
        item(menu, "mnuHelp6", QStringLiteral("Documentation"), QKeySequence::HelpContents), c,
        W::Manual, QStringLiteral("index0.html"));
    menu.addSeparator();
    attach<DocumentCommand>(item(menu, "mnuHelp5", QStringLiteral("Tesral website")), c, W::Manual,
                            QStringLiteral("product.html"));
    attach<DocumentCommand>(item(menu, "mnuHelp1", QStringLiteral("Dravok website")), c, W::Manual,
                            QStringLiteral("maker.html"));
    attach<DocumentCommand>(item(menu, "mnuHelp2", QStringLiteral("Orvane's website")), c,
                            W::Manual, QStringLiteral("author.html"));
    attach<DocumentCommand>(item(menu, "mnuHelp3", QStringLiteral("Quasicrystal website")), c,
                            W::Web, QLatin1String(kQuasicrystalPage));
    menu.addSeparator();
    attach<AboutCommand>(item(menu, "mnuHelp4", QStringLiteral("About")), c);
}

void buildToolBar(QToolBar& bar, CommandContext& c, std::function<void()> startRun) {
    const auto button = [&bar](const char* name, const QString& caption, const QString& tip,
                               ToolbarIcon icon) {
        QAction* action = bar.addAction(toolbarIcon(icon), caption);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(tip);
        return action;
    };
    using K = PlotKind;
    attach<NewCommand>(
        button("Toolbar1Button1", QStringLiteral("New"), QStringLiteral("new "), ToolbarIcon::New),
        c);
    attach<ChooseOutputCommand>(
        button("Toolbar1Button2", QStringLiteral("Save"), QStringLiteral("save "),
               ToolbarIcon::Save),
        c, QStringLiteral("Save"),
        OutputTargets{
            [&c] { SavePictureCommand::save(c, plotPicture(c, K::ZeroLayer), plotFiles()); },
            [&c] { SavePictureCommand::save(c, plotPicture(c, K::ThreeD), plotFiles()); },
            [&c] { SaveTableCommand::saveTable(c); }});
    attach<ChooseOutputCommand>(
        button("Toolbar1Button3", QStringLiteral("Copy"), QStringLiteral("copy to clipboard"),
               ToolbarIcon::Copy),
        c, QStringLiteral("Copy"),
        OutputTargets{[&c] { copyPlot(c, K::ZeroLayer); }, [&c] { copyPlot(c, K::ThreeD); },
                      [&c] { CopyListCommand::copyList(c); }});
    attach<ChooseOutputCommand>(
        button("Toolbar1Button4", QStringLiteral("Print"), QStringLiteral("print graphics"),
               ToolbarIcon::Print),
        c, QStringLiteral("Print"),
        OutputTargets{[&c] { PrintPictureCommand::print(c, plotPicture(c, K::ZeroLayer)); },
                      [&c] { PrintPictureCommand::print(c, plotPicture(c, K::ThreeD)); },
                      [&c] { PrintListCommand::printList(c); }});
    attach<InvertBackgroundCommand>(
        button("Toolbar1Button5", QStringLiteral("Invert background"),
               QStringLiteral("invert background color"), ToolbarIcon::InvertBackground),
        c);
    QAction* execute = button("Toolbar1Button6", QStringLiteral("Execute calculation"),
                              QStringLiteral("execute calculation"), ToolbarIcon::Execute);
    execute->setShortcut(QKeySequence(Qt::Key_F5));
    attach<ExecuteCommand>(execute, c, std::move(startRun));
}

QToolButton* buildLargeViewButton(CommandContext& c, PlotKind kind) {
    auto* button = new QToolButton;
    const bool threeD = kind == PlotKind::ThreeD;
    button->setObjectName(threeD ? QStringLiteral("bBig3D") : QStringLiteral("bBig2D"));
    button->setDefaultAction(
        attach<LargeViewCommand>(
            buttonAction(button, threeD ? QStringLiteral("3D") : QStringLiteral("2D"),
                         QStringLiteral("view in large window")),
            c, kind)
            ->action());
    return button;
}

void attachLargeViewButtons(LargeView& view, CommandContext& c) {
    const auto bind = [](QToolButton* button) {
        auto* action = new QAction(button->icon(), button->text(), button);
        action->setToolTip(button->toolTip());
        button->setDefaultAction(action);
        return action;
    };
    // Of the plot the large view shows.
    attach<CopyPictureCommand>(bind(view.copyButton()), c, plotPicture(c),
                               QLatin1String(kPlotMetafile));
    attach<SavePictureCommand>(bind(view.saveButton()), c, plotPicture(c), plotFiles());
    attach<PrintPictureCommand>(bind(view.printButton()), c, plotPicture(c));
    attach<CloseLargeViewCommand>(bind(view.closeButton()), c);
}

void attachFind(CommandContext& c) {
    InputPanel& panel = *c.panel;
    auto* find = attach<FindCommand>(new QAction(&panel), c);
    QObject::connect(&panel, &InputPanel::findRequested, find->action(), &QAction::trigger);
}

}  // namespace tesral
