# daily_split.awk: the daily split written as a plain awk program, the
# yardstick the converter is timed against. It writes the same daily files
# as the converter for the generator's input (leading fields of plain
# digits, no 0x1A, no NUL bytes); it is not a replacement for it.
#
#   mawk -F, -v serial=107 -v values=11 -v header="..." -f daily_split.awk in.raw
function leap(y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0 }
function lead(text) { return int(text + 0) }
BEGIN {
  split("31 28 31 30 31 30 31 31 30 31 30 31", month_length, " ")
  key = ""
}
{
  gsub(/\r/, "")
  if (NF < 4) next
  year = lead($2); day = lead($3)
  if (year <= 1900 || day < 1 || day > 365 + leap(year)) next
  if (year "-" day != key) {
    if (key != "") close(name)
    key = year "-" day
    month = 1; rest = day
    month_length[2] = 28 + leap(year)
    while (rest > month_length[month]) { rest -= month_length[month]; month++ }
    date = sprintf("%04d-%02d-%02d", year, month, rest)
    name = date "_ZORL_Raw_Data_SN" serial ".csv"
    # A header only for a file that is empty or new, as the converter does.
    empty = (getline first < name) <= 0
    close(name)
    if (empty) printf "%s\r\n", header >> name
  }
  hhmm = lead($4)
  row = sprintf("%s %02d:%02d:%02d", date, int(hhmm / 100), hhmm % 100, lead($1))
  for (i = 5; i < 5 + values; i++) row = row "," (i <= NF ? $i : "")
  printf "%s\r\n", row >> name
}
