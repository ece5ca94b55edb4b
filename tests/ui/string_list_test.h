#pragma once

#include "main_window_fixture.h"

#include <QObject>

namespace sorvane::test {

class StringListTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void cellsShowPaddedRowNumbersAndTheTextsOfTheMode();
  void tooltipsCarryTheWholeText();
  void modUpdateRowsTakeTheColourOfTheirState();
  void theLegendCountsTheColoursAndWalksThroughThem();
  void aSelectedRowIsStrongerWithFocusAndPalerWithout();
  void storingATextRecoloursTheRow();
  void selectingARowShowsItsLengthsAndSections();
  void aModOnlyRowShowsItsOwnSectionsAndZeroLengths();
  void pluralFormsAreRowsThatSayWhichFormTheyAre();
  void findSearchesWhileTypingAndOnwardWithTheButtonF3AndEnter();
  void columnsAndCaptionsFollowTheWidthInBothModes();
  void longTextsStayInsideTheirCell();
  void theFontSizeBoxSetsTheListFont();
  void browseStartsInTheFoldersOfThePathBox();
  void problemsAreMarkedCountedAndWalkedWithF8();
  void ctrlBCopiesTheOriginalAndAChangedRowShowsWhatChanged();
  void removeDroppedEmptiesTheRedRowsInOneStep();
  void aModOfAnotherOriginalIsNoticedAndEachPairIsAProblem();

 private:
  // The colour painted near the right end of a cell, where no text reaches.
  QColor cellColour(int row, int column) const;
  void openColouredSession();

  std::unique_ptr<MainWindowFixture> ui;
};

}  // namespace sorvane::test
