# Shell helpers of the wizard scenarios, on top of lib.sh and engine_lib.sh:
# the steps that bring a wizard built from projects/wizard.toml to a page,
# and the driver lines they print.
. "$(dirname "${BASH_SOURCE[0]}")/engine_lib.sh"

box() { echo "dialog caption=\"Wizard Check Setup\" text=\"$1\""; }
closing_text='This setup program has finished.\n\nIf the installation was completed, the product is ready to use: start it from its shortcuts or from its folder.\n\nIf the installation was cancelled or did not succeed, the files already copied stay where they are, and you can run this setup program again at any time.\n\nClick the button below to close this window.'
closing="control id=100 class=\"RichEdit20A\" text=\"$closing_text\""

# Sets the step arrays to_welcome … to_ready for the setup program (Windows
# path) and the lines they print: seen_welcome … seen_ready.
wizard_steps() {  # setup
  to_welcome=(start "$1" $S wait-text 1000 "Welcome page" 15)
  to_information=("${to_welcome[@]}" $S click 1 $S wait-page "Information page" 10)
  to_agreement=("${to_information[@]}" $S click 1 $S wait-page "Agreement page" 10)
  to_destination=("${to_agreement[@]}" $S click 1002 $S click 1 $S wait-page "Destination page" 10)
  to_ready=("${to_destination[@]}" $S click 1 $S wait-dialog 10 $S press Yes $S wait-page "Ready page" 10)
  seen_welcome='text id=1000 "Welcome page"'
  seen_information="$seen_welcome|clicked id=1|page \"Information page\""
  seen_agreement="$seen_information|clicked id=1|page \"Agreement page\""
  seen_destination="$seen_agreement|clicked id=1002|clicked id=1|page \"Destination page\""
  seen_ready="$seen_destination|clicked id=1|dialog caption=\"Wizard Check Setup\" text=\"Create the folder?\"|pressed Yes|page \"Ready page\""
}

# The lines of a confirmed cancel: the question, Yes, the note, OK, the
# closing page, its Cancel and the end of the run.
cancel_confirmed="dialog caption=\"Wizard Check Setup\" text=\"Quit the wizard check?\"|pressed Yes|dialog caption=\"Wizard Check Setup\" text=\"The wizard check was cancelled.\"|pressed OK|$closing|clicked id=2|exit 1602"
cancel_steps=(wait-dialog 10 $S press Yes $S wait-dialog 10 $S press OK $S wait-control 100 10 $S click 2 $S wait-exit 15)

# How a page of projects/wizard.toml is seen: the welcome page by its text
# (it has no header), any other once its header names it and it is up. Sets
# page_step (a driver step without its SECONDS) and page_line (what it prints).
page_seen() {  # title
  if [ "$1" = "Welcome page" ]; then
    page_step=(wait-text 1000 "$1") page_line="text id=1000 \"$1\""
  else
    page_step=(wait-page "$1") page_line="page \"$1\""
  fi
}
