#pragma once

class QAction;
class QMenu;
class QObject;
class QWidget;

// The translation walk: puts the captions of the main window and its tool windows into the
// current language of `Translator`. Each caption is first taken back to its English key, so
// the walk can run any number of times, from any language, with the same result. Controls
// the designer's forms did not translate (edits, combo boxes, memos, grids, plain tool
// buttons) keep their texts; a widget standing for such a control carries the dynamic
// property "designClass" ("TRadioGroup", "TPanel") and its own caption is passed by. A tool
// button standing for a captioned button ("TSpeedButton", "TBitBtn") is translated.
void TranslateUi(QWidget* mainWindow);
void TranslateForm(QWidget* form);
void TranslateComponent(QObject* component);
void TranslateMenuItem(QMenu* menu);
void TranslateMenuItem(QAction* item);
