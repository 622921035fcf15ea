#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include "app/document.h"
#include "ui/grid_model.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tqm5::Document doc;
    tqm5::GridModel model(doc.grid);
    QTableView view;
    view.setModel(&model);
    view.setWindowTitle("KPL_TQ-M5 Clone Utility Version1_1");
    view.resize(1000, 700);
    view.show();
    return app.exec();
}
