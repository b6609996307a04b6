// node load_units.mjs SCHEMA.json UNITS.csv [THREADS]: a reference beside unitcheck in make
// bench. Loads the unit table into an in-memory table with DuckDB's parallel CSV reader, each
// column of the file's header typed from the schema (SCHEMA.json is what
// `unitlint --schema --format json` prints; a column the schema does not know is text), the
// rows that do not fit set aside (store_rejects) rather than ending the load. It checks nothing
// of what unitcheck checks; it shows what reading and typing the same bytes costs a column
// store. Prints the rows loaded and the faults set aside.
import { openSync, readFileSync, readSync, closeSync } from 'node:fs';
import { DuckDBInstance } from '@duckdb/node-api';

const [schema_path, path, threads] = process.argv.slice(2);
if (!schema_path || !path) {
  console.error('usage: node load_units.mjs SCHEMA.json UNITS.csv [THREADS]');
  process.exit(2);
}

// The header line, from the first bytes of the file.
function header_names(file) {
  const fd = openSync(file, 'r');
  const buffer = Buffer.alloc(1 << 20);
  const size = readSync(fd, buffer, 0, buffer.length, 0);
  closeSync(fd);
  return buffer.toString('latin1', 0, size).split(/\r\n|\r|\n/)[0].split(',');
}

// As unitcheck reads them: the unit table's integer columns (the nested lists among them) are
// not read as numbers by unitcheck, so they stay text here too.
const kTypes = { text: 'VARCHAR', integer: 'VARCHAR', int64: 'BIGINT', float: 'DOUBLE', boolean: 'BOOLEAN' };
const schema = new Map(
  JSON.parse(readFileSync(schema_path, 'utf8')).units.map((column) => [column.name, column.type]));
const quote = (text) => `'${text.replaceAll("'", "''")}'`;
const columns = header_names(path)
  .map((name) => `${quote(name)}: ${quote(kTypes[schema.get(name)] ?? 'VARCHAR')}`)
  .join(', ');

const instance = await DuckDBInstance.create(':memory:', threads ? { threads: String(threads) } : {});
const connection = await instance.connect();
await connection.run(
  `CREATE TABLE units AS SELECT * FROM read_csv(${quote(path)}, columns = {${columns}},
     header = false, skip = 2, delim = ',', quote = '"', escape = '"', store_rejects = true)`);
const loaded = (await connection.runAndReadAll('SELECT count(*) FROM units')).getRows()[0][0];
const rejected = (await connection.runAndReadAll('SELECT count(*) FROM reject_errors')).getRows()[0][0];
console.log(`${loaded} rows loaded, ${rejected} faults set aside`);
