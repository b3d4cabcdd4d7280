-- Schema of the football championships database.
create table agon_meta(name text primary key, value text);
insert into agon_meta values ('password', 'tulk');

-- One row per match list: a group's matches as parallel comma-separated lists, or one
-- knockout match. year is the year, a comma and the host country.
create table football(
  year text collate nocase,
  "group" text collate nocase,
  score text collate nocase,
  com1 text collate nocase,
  complement1 text collate nocase,
  com2 text collate nocase,
  complement2 text collate nocase);

-- Every team that played a knockout match, in alphabetical order.
create table All_country(com1 text collate nocase);
