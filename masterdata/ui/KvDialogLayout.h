#pragma once

#include <initializer_list>

class QLayout;
class QWidget;

// The common layout of a small dialog: its fields (or list) above, its buttons
// in a row below, kept to the right.
void KvLayOutFieldsAndButtons(QWidget* dialog, QLayout* fields, std::initializer_list<QWidget*> buttons);
void KvLayOutFieldsAndButtons(QWidget* dialog, QWidget* fields, std::initializer_list<QWidget*> buttons);
