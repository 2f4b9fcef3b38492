/* Culvex skin: soft slate frames, blue-grey buttons, quiet lists. A Qt style sheet. */

QWidget#Form1 {
    background-color: #eef1f5;
}

QGroupBox {
    background-color: #eef1f5;
    border: 1px solid #a7b3c2;
    border-radius: 4px;
    margin-top: 8px;
    color: #1f3550;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 8px;
    padding: 0 3px;
    background-color: #eef1f5;
}

QRadioButton, QCheckBox {
    background-color: #eef1f5;
    spacing: 4px;
    color: #1f3550;
}

QLineEdit {
    background-color: #ffffff;
    border: 1px solid #a7b3c2;
    border-radius: 3px;
    padding: 1px 4px;
    selection-background-color: #3d6fb6;
}

QLineEdit:focus {
    border-color: #3d6fb6;
}

QLineEdit:disabled {
    background-color: #e3e7ed;
    color: #8793a3;
}

QPushButton {
    color: #15304f;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fbfcfe, stop: 1 #d9e1eb);
    border: 1px solid #8a9bb1;
    border-radius: 4px;
}

QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e4ecf6);
    border-color: #3d6fb6;
}

QPushButton:pressed {
    background-color: #cdd8e6;
}

QPushButton:focus {
    border-color: #3d6fb6;
}

QTableView, culvex--ResultsView {
    background-color: #ffffff;
    border: 1px solid #a7b3c2;
    selection-background-color: #3d6fb6;
    selection-color: #ffffff;
}

QHeaderView::section {
    background-color: #e3e8ef;
    color: #1f3550;
    border: none;
    border-right: 1px solid #c3ccd8;
    border-bottom: 1px solid #a7b3c2;
    padding: 2px 6px;
}
